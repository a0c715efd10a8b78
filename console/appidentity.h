// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Who the program says it is: the title its message boxes carry, its version and its icon.

#include <QIcon>
#include <QString>

class QApplication;

namespace appidentity {

// Title of the console's message boxes. Deliberately not the application display name: the
// platform would append that to every window caption, and the caption must read "Form1".
inline const QString title = QStringLiteral("X10 Test Console");
// The project's version, as the build gives it (also in the package, metainfo and man page).
inline const QString version = QStringLiteral(X10_VERSION);
// Reverse-DNS id: the .desktop file, the AppStream component and the installed icon name.
inline const QString desktopId = QStringLiteral(X10_APP_ID);

// The application icon (16, 32 and 48 px images) from the embedded resources.
QIcon icon();

// Name, version, desktop id and the application font.
void apply(QApplication &app);

} // namespace appidentity
