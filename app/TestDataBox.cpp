#include "app/TestDataBox.h"

#include <QHeaderView>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/Named.h"
#include "app/SampleChart.h"
#include "app/SampleGridModel.h"

namespace {

void PopupOnRightClick(QAbstractScrollArea* area, QMenu* menu) {
  QObject::connect(
      area, &QWidget::customContextMenuRequested, menu,
      [area, menu](const QPoint& at) { menu->popup(area->viewport()->mapToGlobal(at)); });
}

}  // namespace

TTestDataBox::TTestDataBox(const TSampleData& samples, QWidget* parent)
    : QGroupBox(QStringLiteral("Test data"), parent), samples_(samples) {
  setObjectName(QStringLiteral("GroupBox2"));
  sgTest = Named<QTableView>("sgTest");
  gridModel_ = new TSampleGridModel(samples, sgTest);
  sgTest->setModel(gridModel_);
  sgTest->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgTest->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgTest->setWordWrap(false);
  sgTest->horizontalHeader()->setDefaultSectionSize(64);
  sgTest->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  sgTest->verticalHeader()->setDefaultSectionSize(sgTest->verticalHeader()->minimumSectionSize());
  sgTest->setContextMenuPolicy(Qt::CustomContextMenu);
  sgTest->setToolTip(
      QStringLiteral("The samples in the order of the set; right click to copy "
                     "or paste them"));

  chTest = Named<TSampleChart>("chTest", nullptr);
  chTest->setContextMenuPolicy(Qt::CustomContextMenu);
  chTest->setToolTip(
      QStringLiteral("The samples and the model's curve; right click to copy "
                     "the chart"));
  chTest->setMinimumSize(160, 120);  // room for the axis labels, which would show as "..."

  Splitter2 = Named<QSplitter>("Splitter2", Qt::Horizontal);
  Splitter2->addWidget(sgTest);
  Splitter2->addWidget(chTest);
  Splitter2->setStretchFactor(0, 0);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setCollapsible(1, false);
  Splitter2->setSizes({207, 400});
  (new QVBoxLayout(this))->addWidget(Splitter2);
}

void TTestDataBox::Show(std::vector<TSamplePoint> ordered) {
  gridModel_->Refresh();
  FitColumns();  // a new set may hold wider texts than the last
  chTest->ShowSamples(samples_, std::move(ordered));
}

void TTestDataBox::RefreshTexts() {
  gridModel_->RefreshTexts();
}

void TTestDataBox::FitColumns() {
  sgTest->resizeColumnsToContents();
}

void TTestDataBox::SetMenus(QMenu* grid, QMenu* chart) {
  PopupOnRightClick(sgTest, grid);
  PopupOnRightClick(chTest, chart);
}
