#pragma once

#include <QStringList>

class PlanReport;
class QTextDocument;

// Keeps a text document showing the plan table. A re-plan while a point is
// dragged changes a few rows of a table that can hold hundreds: those rows
// alone are written again (one layout of what changed), instead of parsing
// and laying out the whole table on every drag event. Whatever the path, the
// document reads exactly as if the report's rich text had been set whole.
class PlanTableDocument
{
public:
    // The document is the caller's; its undo history is turned off (a table
    // re-written on every drag event would pile up undo steps).
    explicit PlanTableDocument(QTextDocument* document);

    // Shows the report's table (completed by its summary).
    void show(const PlanReport& report);
    // The document was changed by someone else: the next show writes the
    // table whole.
    void forget() { mShown.clear(); }
    // Rows written by the last show (for measuring; all of them when the
    // table was written whole).
    int rowsWritten() const { return mRowsWritten; }

private:
    QTextDocument* mDocument;
    QStringList mShown;
    int mRowsWritten = 0;
};
