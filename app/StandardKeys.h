#pragma once
// The keys a command is bound to.

#include <QKeySequence>
#include <QList>
#include <initializer_list>

// The desktop's keys for a command and the ones users of other desktops expect, each once:
// a key bound twice is ambiguous and does nothing.
[[nodiscard]] QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key,
                                               std::initializer_list<QKeySequence> others);
