#include "app/plantabledocument.h"

#include "app/planreport.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

PlanTableDocument::PlanTableDocument(QTextDocument* document)
    : mDocument(document)
{
    mDocument->setUndoRedoEnabled(false);
}

void PlanTableDocument::show(const PlanReport& report)
{
    const QStringList& rows = report.rows();
    // Row by row only over a table of the same shape that this object wrote
    // and nobody changed since.
    if (rows.isEmpty() || rows.size() != mShown.size() || mDocument->blockCount() != rows.size()) {
        mDocument->setHtml(report.html());
        mShown = rows;
        mRowsWritten = int(rows.size());
        return;
    }
    mRowsWritten = 0;
    QTextCursor cursor(mDocument);
    cursor.beginEditBlock();
    QTextBlock block = mDocument->begin();
    for (qsizetype row = 0; row < rows.size(); ++row, block = block.next()) {
        if (rows.at(row) == mShown.at(row))
            continue;
        // The paragraph's contents are replaced; its block (and its format,
        // the same for every row) stays.
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertFragment(QTextDocumentFragment::fromHtml(PlanReport::header() + rows.at(row)
                                                              + PlanReport::footer()));
        ++mRowsWritten;
    }
    cursor.endEditBlock();
    mShown = rows;
}
