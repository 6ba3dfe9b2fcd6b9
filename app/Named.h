#pragma once
// Widgets are found by their object names (tests, style sheets, the accessibility tree):
// every control is made with its name in one call.

#include <utility>

#include <QString>

template <typename Widget, typename... Args>
Widget* Named(const char* name, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
