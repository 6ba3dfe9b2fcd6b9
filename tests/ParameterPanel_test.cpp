// The parameter panel on its own: a search reads each setting from its own box.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "app/ParameterPanel.h"
#include "tests/WindowTestKit.h"

class TestParameterPanel : public QObject {
  Q_OBJECT

 private slots:
  void eachSettingFromItsBox_data();
  void eachSettingFromItsBox();
  void limitsAndHoldoutFromTheirBoxes();
  void inputCountAndRaisedRegisters_data();
  void inputCountAndRaisedRegisters();
};

void TestParameterPanel::eachSettingFromItsBox_data() {
  QTest::addColumn<int>("registers");
  QTest::addColumn<int>("instructions");
  QTest::addColumn<int>("population");
  QTest::addColumn<int>("margin");
  QTest::addColumn<bool>("progressive");
  QTest::newRow("all apart") << 3 << 7 << 250 << 25 << false;
  QTest::newRow("edges") << 20 << 100 << 32000 << 0 << true;
}

void TestParameterPanel::eachSettingFromItsBox() {
  QFETCH(int, registers);
  QFETCH(int, instructions);
  QFETCH(int, population);
  QFETCH(int, margin);
  QFETCH(bool, progressive);
  TParameterPanel panel(nullptr);
  Control<QSpinBox>(panel, "UpDown1")->setValue(registers);
  Control<QSpinBox>(panel, "UpDown2")->setValue(instructions);
  Control<QSpinBox>(panel, "UpDown3")->setValue(population);
  Control<QSlider>(panel, "tb1")->setValue(margin);
  Control<QCheckBox>(panel, "opIncrementalSearch")->setChecked(progressive);

  const TSearchParameters parameters = panel.Parameters();
  QCOMPARE(parameters.RegisterCount, registers);
  QCOMPARE(parameters.InstructionCount, instructions);
  QCOMPARE(parameters.PopulationSize, population);
  QCOMPARE(parameters.Margin(), margin / 100.0);
  QCOMPARE(parameters.Progressive, progressive);
}

void TestParameterPanel::limitsAndHoldoutFromTheirBoxes() {
  TParameterPanel panel(nullptr);
  // Empty boxes: no limit, nothing held out, as the table's defaults.
  const TSearchParameters defaults = panel.Parameters();
  QCOMPARE(defaults.TimeLimit.count(), std::int64_t{0});
  QCOMPARE(defaults.GenerationLimit, std::int64_t{0});
  QCOMPARE(defaults.HoldoutPercent, 0);

  auto* holdout = Control<QSpinBox>(panel, "edHoldout");
  QCOMPARE(holdout->maximum(), 50);
  holdout->setValue(25);
  auto* time = Control<QLineEdit>(panel, "edTimeLimit");
  auto* generations = Control<QLineEdit>(panel, "edGenerationLimit");
  QTest::keyClicks(time, QStringLiteral("9x0"));  // only digits reach the box
  QCOMPARE(time->text(), QStringLiteral("90"));
  generations->setText(QStringLiteral("500"));
  const TSearchParameters limited = panel.Parameters();
  QCOMPARE(limited.HoldoutPercent, 25);
  QCOMPARE(limited.TimeLimit.count(), std::int64_t{90000});
  QCOMPARE(limited.GenerationLimit, std::int64_t{500});

  // Attempts have lengths of their own: the generation limit is not theirs.
  Control<QCheckBox>(panel, "opRestartSearch")->setChecked(true);
  QVERIFY(!generations->isEnabled());
  QCOMPARE(panel.Parameters().GenerationLimit, std::int64_t{0});
  QCOMPARE(panel.Parameters().TimeLimit.count(), std::int64_t{90000});
  Control<QCheckBox>(panel, "opRestartSearch")->setChecked(false);
  QVERIFY(generations->isEnabled());
}

void TestParameterPanel::inputCountAndRaisedRegisters_data() {
  QTest::addColumn<int>("inputs");
  QTest::addColumn<int>("registers");
  QTest::addColumn<QString>("note");
  QTest::newRow("one input") << 1 << 1 << QString();
  QTest::newRow("three inputs, one register")
      << 3 << 1 << "The samples have 3 inputs, so the search uses 3 registers instead of 1.";
  QTest::newRow("two inputs, two registers") << 2 << 2 << QString();
  QTest::newRow("two inputs, five registers") << 2 << 5 << QString();
}

void TestParameterPanel::inputCountAndRaisedRegisters() {
  QFETCH(int, inputs);
  QFETCH(int, registers);
  QFETCH(QString, note);
  TParameterPanel panel(nullptr);
  panel.show();
  Control<QSpinBox>(panel, "UpDown1")->setValue(registers);
  panel.ShowInputCount(inputs);
  auto* count = Control<QLineEdit>(panel, "edInputs");
  auto* line = Control<QLabel>(panel, "lbRegisterNote");
  // One input is how the panel always looked: no count, no note.
  QCOMPARE(count->isVisible(), inputs > 1);
  QCOMPARE(count->text(), QString::number(inputs));
  QCOMPARE(line->isVisible(), !note.isEmpty());
  QCOMPARE(line->text(), note);
  // The search reads the registers the user gave; the note follows the box.
  QCOMPARE(panel.Parameters().RegisterCount, registers);
  Control<QSpinBox>(panel, "UpDown1")->setValue(20);
  QVERIFY(!line->isVisible());
}

QTEST_MAIN(TestParameterPanel)
#include "ParameterPanel_test.moc"
