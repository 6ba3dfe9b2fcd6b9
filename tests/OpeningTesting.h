#pragma once
// Every way of opening a sample file (the open dialog, the command line, a drop, the recent
// files) must end as "Open" does. The files they are tried on, and what "Open" makes of each.

#include <utility>

#include <QFile>
#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTest>

#include "core/model/SD.h"
#include "tests/WindowTestKit.h"

struct TOpenOutcome {
  QList<QPointF> Rows;  // empty when the window kept the sample it had
  QStringList Messages;
  QStringList Errors;
};

inline TOpenOutcome Outcome(TForm1& form, const TScriptedServices& script,
                            const QList<QPointF>& before) {
  const QList<QPointF> now = Rows(form.SampleSet());
  return {now == before ? QList<QPointF>() : now, script.Messages, script.Errors};
}

// A readable file, one with an unreadable line, and a missing one (no content).
inline QList<std::pair<const char*, QByteArray>> SampleFiles() {
  return {{"readable", QByteArray("3,-1.5\r\n1,2.25\r\n2,7\r\n")},
          {"unreadable line", QByteArray("1,2\r\n1;5,abc\r\n3,4\r\n")},
          {"missing", QByteArray()}};
}

inline void AddSampleFileRows() {
  QTest::addColumn<QByteArray>("content");
  for (const auto& [name, content] : SampleFiles())
    QTest::newRow(name) << content;
}

inline QString PrepareSampleFile(const QString& path, const QByteArray& content) {
  QFile::remove(path);
  if (!content.isEmpty()) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return {};
  }
  return path;
}

// What "Open" does with the file, in a window of its own.
inline TOpenOutcome OpenedByDialog(const QString& path) {
  TScriptedServices script;
  TForm1 form(script.Services());
  const QList<QPointF> before = Rows(form.SampleSet());
  script.DialogAnswers = {path};
  form.Open1Click();
  return Outcome(form, script, before);
}

inline void CompareOutcomes(const TOpenOutcome& actual, const TOpenOutcome& expected) {
  QCOMPARE(actual.Rows, expected.Rows);
  QCOMPARE(actual.Messages, expected.Messages);
  QCOMPARE(actual.Errors, expected.Errors);
}
