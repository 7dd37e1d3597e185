#pragma once

#include <QString>
#include <QStringList>

// The arguments whose bytes do not come back from their QString (QFile::encodeName of it):
// names that are not valid UTF-8, each bad byte of which became U+FFFD. A file so named would
// be opened under another name, its neighbour's. argc and argv as the application left them
// (its own options taken out); argument 0, the program, is not looked at. Given as converted.
QStringList UnfaithfulArguments(int argc, const char *const *argv);

// Takes the names that did not survive the conversion out of files, saying so for each on
// standard error; the number taken out.
int RefuseUnfaithfulNames(QStringList &files, const QStringList &unfaithful);
