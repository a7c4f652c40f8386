#pragma once

#include <QStringList>
#include <QTextStream>

// Exit codes shared by every command of the library tool.
// ExitNotChecked: check found no problem but could not run all of its checks,
// which is no pass.
enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitNotChecked = 3 };

// A command that checks its own arguments (options among them).
constexpr int VariableArguments = -1;

struct Command
{
    const char* name;
    const char* synopsis; // "NAME ARGS   what it does", one line of the usage text
    int argumentCount;
    int (*run)(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
