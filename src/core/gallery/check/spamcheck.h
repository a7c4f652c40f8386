#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A spam filter's view of a message: SpamAssassin's local tests, run as a
// program of its own, so that a filter that hangs or crashes costs a section
// of the report and nothing else.
namespace SpamCheck {

struct Rule
{
    double points = 0;
    QString name;        // "MISSING_MID"
    QString description; // SpamAssassin's own words
};

struct Result
{
    std::optional<double> score; // none when the check did not run to the end
    double required = 5.0;
    QList<Rule> rules;  // in SpamAssassin's order
    QString notChecked; // why there is no score
};

// The SpamAssassin on PATH, or nothing.
QString findProgram();

// Runs `program` (spamassassin) with local tests only on `message`, stopped
// after `seconds`.
Result run(const QByteArray& message, const QString& program, int seconds);

// Parses what "spamassassin -t" writes; exposed for its tests.
Result parseReport(const QByteArray& output);

} // namespace SpamCheck
