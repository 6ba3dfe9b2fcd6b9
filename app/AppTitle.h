#pragma once
// The application title: the window's caption and the caption of every box it shows.

#include <QString>

inline const QString AppTitle = QStringLiteral("Movar Tester");
