#pragma once

#include "deco/planneddive.h"

#include <QString>
#include <QStringList>

// The plan table of the planning tab, built record by record from the
// planner's plan callback: a reset starts a new table, each segment adds one
// row, the summary adds CNS and OTU and completes it.
class PlanReport
{
public:
    // Takes one record; true when it completed the table (the summary).
    bool add(const deco::LinePlan& record);
    // The rich text so far.
    const QString& html() const { return mHtml; }
    // The same rich text cut into its paragraphs, one a row of the table
    // (the summary's CNS and OTU are the last two): html() is header(), the
    // rows, then footer().
    const QStringList& rows() const { return mRows; }
    static const QString& header();
    static QString footer() { return QStringLiteral("</body></html>"); }
    // The same table as plain text, one line per row (for the clipboard).
    const QString& text() const { return mText; }
    // The gas index last named in the table, -1 since the reset.
    int lastGasShown() const { return mLastGas; }
    // Names the gases after the dive's own, by index (a plan switching to the
    // dive's deco gases carries indexes into them); empty: the fixed names.
    // Kept over a reset.
    void setGasNames(const QStringList& names) { mGasNames = names; }

    // The name the table gives a gas index (only 0 to 4 are named).
    static QString gasName(int gasIndex);
    // "mm:ss" parts of a duration in minutes, or "hh:mm:ss" from one hour on.
    static QString clockText(float minutes, bool& fromOneHour);

private:
    QString nameOf(int gasIndex) const;

    QStringList mGasNames;
    QStringList mRows;
    QString mHtml;
    QString mText;
    int mLastGas = -1;
};
