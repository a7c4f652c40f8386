#pragma once

#include <QString>
#include <QStringList>

// The fonts templates are drawn with. Left to the machine, "Helvetica" or
// "Palatino" become whatever fonts happen to be installed, so a preview's or
// thumbnail's lines break differently from one machine to the next and from
// what recipients see. The programs that draw templates make fontconfig read
// a configuration of their own instead, which names a fixed set of free fonts
// as wide as the ones templates ask for.
namespace RenderFonts {

// The file name of that configuration, installed beside the programs.
inline constexpr char ConfigName[] = "quillery-fonts.conf";

// The configuration beside the running program.
QString besideProgram();

// The folders `config` names that are missing, or `config` itself when it
// cannot be read: what keeps it from being used.
QStringList missing(const QString& config);

// Makes fontconfig, and with it the toolkit and the web engine, read `config`
// alone, unless something it needs is missing; returns what is. Must run
// before anything reads fonts: before the application object is made.
QStringList use(const QString& config);

} // namespace RenderFonts
