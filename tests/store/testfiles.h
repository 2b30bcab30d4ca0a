#pragma once

// Small helpers for tests that work on real files: writing and reading raw bytes, a snapshot of
// a folder to show that an operation changed nothing, and a probe for whether file permissions
// are enforced for this process at all (they are not for root).

#include <QByteArray>
#include <QMap>
#include <QString>

class QDir;

namespace morvane::testing {

// Creates or replaces the file with exactly these bytes. False when that fails.
bool writeBytes(const QString& path, const QByteArray& bytes);

// The file's bytes; a null QByteArray when it cannot be read.
QByteArray readBytes(const QString& path);

// Every entry under the folder, recursively, by relative path: a file's bytes, or "<folder>"
// for a folder. Two equal snapshots mean nothing was created, removed or rewritten.
QMap<QString, QByteArray> snapshot(const QDir& folder);

// False when this process can read a file that has no permissions at all (root, or a process
// with CAP_DAC_OVERRIDE): tests that rely on permissions must then skip. `scratch` is a folder
// the probe may use.
bool permissionsAreEnforced(const QString& scratch);

} // namespace morvane::testing
