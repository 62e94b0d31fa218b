#ifndef KORVANI_UNIQUEFILES_H
#define KORVANI_UNIQUEFILES_H

#include <QString>

namespace Platform {

// The longest file name, in bytes of UTF-8, that the program makes: file
// systems take 255 at most, and fewer where they store names encrypted
// (eCryptfs takes 143).
constexpr int maxFileNameBytes = 128;

// The name cut, where it is too long, to maxFileNameBytes less reserved: the
// end of its stem goes, its extension stays.
QString fittingFileName(const QString &fileName, int reserved = 0);

// Makes a new empty file, readable and writable by the user only, in folder
// (made when missing), named after fileName with a part of its own added to
// the stem, so that no other caller gets the same name. Its name, or empty
// with the reason.
QString createUniqueFile(const QString &folder, const QString &fileName, QString *error);

// Makes a new folder, the user's only, in folder (made when missing). Its
// path, or empty when it could not be made.
QString createUniqueFolder(const QString &folder);

// Whether a folder's name is one that createUniqueFolder gives.
bool isUniqueFolderName(const QString &name);

} // namespace Platform

#endif
