// The parameter panel on its own: a search reads each setting from its own box.
#include <QCheckBox>
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

QTEST_MAIN(TestParameterPanel)
#include "ParameterPanel_test.moc"
