#include "app/ParameterPanel.h"

#include <QCheckBox>
#include <QSettings>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>

#include "app/Named.h"
#include "app/RateBox.h"
#include "app/SeedField.h"
#include "core/search/SearchSettings.h"
#include "frontend/WindowText.h"
#include "restart/BestMode.h"

namespace {

// A parameter box: its text cannot be typed into, so the arrows and the Up and Down keys
// are the only way to change the value, and the text is always plain digits that the
// search reads back.
class TParameterBox : public QSpinBox {
 public:
  TParameterBox(const char* name, const char* editName, const TSearchSetting& setting,
                QWidget* parent)
      : QSpinBox(parent) {
    setObjectName(QString::fromLatin1(name));
    lineEdit()->setObjectName(QString::fromLatin1(editName));
    lineEdit()->setReadOnly(true);
    setLocale(QLocale::c());  // ASCII digits whatever the user's locale
    const TSettingRange range = setting.WindowRange();
    setRange(static_cast<int>(range.Minimum), static_cast<int>(range.Maximum));
    setSingleStep(static_cast<int>(range.Step));
    setValue(static_cast<int>(setting.Default));
    setAlignment(Qt::AlignRight);
    setToolTip(QString::fromStdString(SettingTip(setting)));
  }
  [[nodiscard]] QLineEdit* Edit() const { return lineEdit(); }
};

QLabel* Caption(const char* name, const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = Named<QLabel>(name, text, parent);
  label->setBuddy(buddy);
  return label;
}

// A limit: typed digits, empty for none. What it means is read by ReadLimit.
QLineEdit* LimitEdit(const char* name, const TSearchSetting& setting, QWidget* parent) {
  auto* edit = Named<QLineEdit>(name, parent);
  const int digits = static_cast<int>(std::to_string(setting.Range.Maximum).size());
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(digits)), edit));
  edit->setPlaceholderText(
      QString::fromUtf8(setting.Unset.data(), static_cast<qsizetype>(setting.Unset.size())));
  edit->setToolTip(
      QString::fromUtf8(setting.Help.data(), static_cast<qsizetype>(setting.Help.size())));
  edit->setAlignment(Qt::AlignRight);
  return edit;
}

// A box the window writes: Tab passes it by.
QLineEdit* ReadOnlyEdit(const char* name, const QString& text, const QString& tip,
                        QWidget* parent) {
  auto* edit = Named<QLineEdit>(name, text, parent);
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  edit->setToolTip(tip);
  return edit;
}

}  // namespace

TParameterPanel::TParameterPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Parameters"), parent) {
  setObjectName(QStringLiteral("GroupBox1"));
  setMinimumWidth(161);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

  auto* up1 = new TParameterBox("UpDown1", "Edit1", RegistersSetting, this);
  auto* up2 = new TParameterBox("UpDown2", "Edit2", InstructionsSetting, this);
  auto* up3 = new TParameterBox("UpDown3", "Edit3", PopulationSetting, this);
  UpDown1 = up1;
  UpDown2 = up2;
  UpDown3 = up3;
  Edit1 = up1->Edit();
  Edit2 = up2->Edit();
  Edit3 = up3->Edit();

  seedField_ = Named<TSeedField>("edSeed", this);
  opRandomSample = Named<QCheckBox>("opRandomSample", QStringLiteral("Random sample"), this);
  opRandomSample->setToolTip(
      QStringLiteral("Sample generate makes random points instead of the sine series"));
  Button1 = Named<QPushButton>("Button1", QStringLiteral("Sample generate"), this);
  Button1->setToolTip(QStringLiteral("Replaces the test data by 100 generated samples"));

  tb1 = Named<QSlider>("tb1", Qt::Horizontal, this);
  const TSettingRange margin = MarginSetting.WindowRange();
  tb1->setRange(static_cast<int>(margin.Minimum), static_cast<int>(margin.Maximum));
  tb1->setSingleStep(static_cast<int>(margin.Step));
  tb1->setPageStep(2);
  tb1->setTickPosition(QSlider::TicksBelow);
  tb1->setTickInterval(1);
  tb1->setValue(static_cast<int>(MarginSetting.Default));
  lbMargin = Named<QLabel>("lbMargin", this);
  lbMargin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Room for "40%" whatever the font, so that the track bar does not move as the text changes.
  lbMargin->setMinimumWidth(lbMargin->fontMetrics().horizontalAdvance(QStringLiteral("40%")));

  opIncrementalSearch =
      Named<QCheckBox>("opIncrementalSearch", QStringLiteral("Progressive search"), this);
  opIncrementalSearch->setChecked(ProgressiveSetting.Default != 0);
  opIncrementalSearch->setToolTip(QString::fromStdString(SettingTip(ProgressiveSetting)));
  // Off at start: the attempts take every core, which the user asks for.
  opRestartSearch =
      Named<QCheckBox>("opRestartSearch", QStringLiteral("Restart stalled searches"), this);
  opRestartSearch->setToolTip(
      QStringLiteral("Runs short searches from new seeds side by side on every core, refines "
                     "the best models, and keeps the first that matches"));
  edHoldout = new TParameterBox("edHoldout", "edHoldoutText", HoldoutSetting, this);
  edHoldout->setSuffix(QStringLiteral("%"));
  edHoldout->setToolTip(
      QStringLiteral("Keeps a share of the samples, drawn from the seed, out of "
                     "the search to check its models on"));
  edTimeLimit = LimitEdit("edTimeLimit", TimeLimitSetting, this);
  edGenerationLimit = LimitEdit("edGenerationLimit", GenerationsSetting, this);
  // Attempts have lengths of their own: a generation limit is a plain search's.
  connect(opRestartSearch, &QCheckBox::toggled, edGenerationLimit, &QWidget::setDisabled);
  Button2 = Named<QPushButton>("Button2", QStringLiteral("Code search"), this);
  Button3 = Named<QPushButton>("Button3", QStringLiteral("Stop"), this);
  Button3->setEnabled(false);
  Button2->setToolTip(QStringLiteral("Searches for a model that matches every sample"));
  Button3->setToolTip(QStringLiteral("Ends the search and keeps the best model found"));
  for (QPushButton* button : {Button2, Button3}) {
    button->setMinimumHeight(41);
  }
  Edit6 = ReadOnlyEdit("Edit6", QStringLiteral("0"),
                       QStringLiteral("Generations of the search so far"), this);
  rateBox_ = Named<TRateBox>("edRate", this);
  rateBox_->setFocusPolicy(Qt::NoFocus);
  Edit5 = ReadOnlyEdit("Edit5", QStringLiteral("0h0m0s"),
                       QStringLiteral("Time the search has taken so far"), this);
  lbAttempt = Named<QLabel>("lbAttempt", QString(), this);
  btPlot = Named<QPushButton>("btPlot", QStringLiteral("Plot"), this);
  btPlot->hide();  // its command runs only when another command calls it
  edInputs = ReadOnlyEdit("edInputs", QStringLiteral("1"),
                          QStringLiteral("Inputs of each sample; a program starts with each in a "
                                         "register of its own"),
                          this);
  edInputs->setAlignment(Qt::AlignRight);
  lbInputs = Caption("lbInputs", QStringLiteral("Inputs:"), edInputs, this);
  lbRegisterNote = Named<QLabel>("lbRegisterNote", this);
  lbRegisterNote->setWordWrap(true);

  Arrange();

  connect(Button1, &QPushButton::clicked, this, &TParameterPanel::GenerateClicked);
  connect(btPlot, &QPushButton::clicked, this, &TParameterPanel::PlotClicked);
  connect(Button2, &QPushButton::clicked, this, &TParameterPanel::SearchClicked);
  connect(Button3, &QPushButton::clicked, this, &TParameterPanel::StopClicked);
  connect(tb1, &QSlider::valueChanged, this, &TParameterPanel::MarginChanged);
  connect(UpDown1, &QSpinBox::valueChanged, this, &TParameterPanel::ShowRegisterNote);
  ShowMarginHint();
  ShowInputCount(1);
}

void TParameterPanel::Arrange() {
  // A caption beside its box wherever the box fits, so that the panel keeps the window's
  // height with the limits in it.
  auto* grid = new QGridLayout(this);
  grid->setVerticalSpacing(3);
  grid->addWidget(Caption("Label1", QStringLiteral("Variables:"), UpDown1, this), 0, 0);
  grid->addWidget(UpDown1, 0, 1);
  grid->addWidget(lbInputs, 1, 0);
  grid->addWidget(edInputs, 1, 1);
  grid->addWidget(lbRegisterNote, 2, 0, 1, 2);
  grid->addWidget(Caption("Label2", QStringLiteral("Instructions:"), UpDown2, this), 3, 0);
  grid->addWidget(UpDown2, 3, 1);
  grid->addWidget(Caption("Label3", QStringLiteral("Start population:"), UpDown3, this), 4, 0);
  grid->addWidget(UpDown3, 4, 1);
  grid->addWidget(Caption("lbSeed", QStringLiteral("Seed:"), seedField_, this), 5, 0);
  grid->addWidget(seedField_, 5, 1);
  grid->addWidget(opRandomSample, 6, 0, 1, 2);
  grid->addWidget(Button1, 7, 0, 1, 2);
  grid->addWidget(Caption("Label5", QStringLiteral("Margin of error:"), tb1, this), 8, 0, 1, 2);
  auto* margin = new QHBoxLayout();
  margin->addWidget(tb1, 1);
  margin->addWidget(lbMargin);
  grid->addLayout(margin, 9, 0, 1, 2);
  grid->addWidget(opIncrementalSearch, 10, 0, 1, 2);
  grid->addWidget(opRestartSearch, 11, 0, 1, 2);
  grid->addWidget(Caption("lbHoldout", QStringLiteral("Hold out:"), edHoldout, this), 12, 0);
  grid->addWidget(edHoldout, 12, 1);
  grid->addWidget(Caption("lbTimeLimit", QStringLiteral("Time limit:"), edTimeLimit, this), 13, 0);
  grid->addWidget(edTimeLimit, 13, 1);
  grid->addWidget(
      Caption("lbGenerationLimit", QStringLiteral("Generation limit:"), edGenerationLimit, this),
      14, 0);
  grid->addWidget(edGenerationLimit, 14, 1);
  auto* run = new QHBoxLayout();
  run->addWidget(Button2, 3);
  run->addWidget(Button3, 1);
  grid->addLayout(run, 15, 0, 1, 2);
  grid->addWidget(Caption("Label6", QStringLiteral("Generation:"), Edit6, this), 16, 0);
  auto* generation = new QHBoxLayout();
  generation->addWidget(Edit6, 1);
  generation->addWidget(rateBox_, 1);
  grid->addLayout(generation, 16, 1);
  grid->addWidget(lbAttempt, 17, 0, 1, 2);
  grid->addWidget(Caption("Label4", QStringLiteral("Elapsed time:"), Edit5, this), 18, 0);
  grid->addWidget(Edit5, 18, 1);
  grid->addWidget(btPlot, 19, 0, 1, 2);
  grid->setRowStretch(20, 1);

  // Top to bottom, as the panel reads.
  const QList<QWidget*> order{UpDown1,         UpDown2,   UpDown3,     seedField_,
                              opRandomSample,  Button1,   tb1,         opIncrementalSearch,
                              opRestartSearch, edHoldout, edTimeLimit, edGenerationLimit,
                              Button2,         Button3};
  for (qsizetype i = 1; i < order.size(); ++i)
    setTabOrder(order[i - 1], order[i]);
}

TParameterPanel::~TParameterPanel() = default;

void TParameterPanel::KeepRestartsIn(std::unique_ptr<QSettings> store) {
  if (!store) return;
  restartStore_ = std::move(store);
  const QString key = QStringLiteral("search/restartStalled");
  opRestartSearch->setChecked(restartStore_->value(key, false).toBool());
  connect(opRestartSearch, &QCheckBox::toggled, this, [this, key](bool on) {
    restartStore_->setValue(key, on);
    restartStore_->sync();
  });
}

TSearchParameters TParameterPanel::Parameters() const {
  TSearchParameters parameters = ReadSearchParameters(
      Edit3->text().toStdString(), Edit2->text().toStdString(), Edit1->text().toStdString(),
      tb1->value(), opIncrementalSearch->isChecked());
  (void)ApplySetting(parameters, HoldoutSetting, edHoldout->value());
  if (const auto seconds = ReadLimit(edTimeLimit->text().toStdString(), TimeLimitSetting)) {
    (void)ApplySetting(parameters, TimeLimitSetting, *seconds);
  }
  if (const auto generations =
          ReadLimit(edGenerationLimit->text().toStdString(), GenerationsSetting);
      generations && !Restarts()) {
    (void)ApplySetting(parameters, GenerationsSetting, *generations);
  }
  return parameters;
}

bool TParameterPanel::Restarts() const {
  return opRestartSearch->isChecked();
}

bool TParameterPanel::RandomSample() const {
  return opRandomSample->isChecked();
}

std::optional<std::uint32_t> TParameterPanel::Seed() const {
  return seedField_->Value();
}

QString TParameterPanel::GenerateCaption() const {
  return Button1->text();
}

void TParameterPanel::ShowMarginHint() {
  const QString hint = QString::fromStdString(MarginHint(tb1->value()));
  tb1->setToolTip(hint);
  lbMargin->setText(hint);
}

void TParameterPanel::ShowInputCount(std::int32_t inputs) {
  inputCount_ = inputs;
  edInputs->setText(QString::number(inputs));
  // One input is what the panel always served: nothing more to say.
  lbInputs->setVisible(inputs > 1);
  edInputs->setVisible(inputs > 1);
  ShowRegisterNote();
}

void TParameterPanel::ShowRegisterNote() {
  const std::optional<std::string> note = RegisterRaiseNote(UpDown1->value(), inputCount_);
  lbRegisterNote->setText(note ? QString::fromStdString(*note) : QString());
  lbRegisterNote->setVisible(note.has_value());
}

void TParameterPanel::SetRunning(bool running) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           UpDown1, UpDown2, UpDown3, opRandomSample, opIncrementalSearch, opRestartSearch, tb1,
           Button1, Button2, seedField_, edHoldout, edTimeLimit}) {
    control->setEnabled(!running);
  }
  edGenerationLimit->setEnabled(!running && !Restarts());
  Button3->setEnabled(running);
}

void TParameterPanel::StartRun() {
  rateBox_->Start();
  lbAttempt->clear();
}

void TParameterPanel::CountGeneration() {
  rateBox_->Count();
}

void TParameterPanel::ShowGeneration(std::int32_t generation, std::chrono::milliseconds elapsed) {
  Edit6->setText(QString::number(generation));
  Edit5->setText(QString::fromStdString(FormatElapsed(elapsed)));
}

void TParameterPanel::ShowAttempt(const TModelUpdate& update) {
  lbAttempt->setText(QString::fromStdString(AttemptCaption(update)));
}

void TParameterPanel::FinishRun(std::uint32_t seed) {
  rateBox_->Finish();
  seedField_->ShowUsed(seed);
}

QScrollArea* TParameterPanel::InScrollArea() {
  auto* area = Named<QScrollArea>("PanelArea");
  area->setWidget(this);
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  area->setFixedWidth(minimumSizeHint().width() + area->verticalScrollBar()->sizeHint().width());
  area->setMinimumHeight(120);
  return area;
}
