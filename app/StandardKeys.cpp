#include "app/StandardKeys.h"

QList<QKeySequence> StandardKeys(QKeySequence::StandardKey key,
                                 std::initializer_list<QKeySequence> others) {
  QList<QKeySequence> keys;
  for (const QKeySequence& sequence : QKeySequence::keyBindings(key) + QList(others)) {
    if (!keys.contains(sequence)) keys.append(sequence);
  }
  return keys;
}
