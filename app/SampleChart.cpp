#include "app/SampleChart.h"

#include <algorithm>

#include <QBuffer>
#include <QComboBox>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMimeData>
#include <QPainter>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QSvgGenerator>
#include <QValueAxis>

#include "app/ChartPalette.h"
#include "frontend/ChartView.h"
#include "frontend/SeriesPoints.h"

namespace {

QLineSeries* AddSeries(QChart& chart, const QString& name, const QColor& color) {
  auto* series = new QLineSeries(&chart);
  series->setName(name);
  QPen pen(color);
  pen.setWidth(1);
  series->setPen(pen);
  series->setMarkerSize(TSampleChart::LineMarkerSize);
  chart.addSeries(series);
  return series;
}

QList<QPointF> ChartList(const std::vector<TSamplePoint>& points) {
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  for (const TSamplePoint& p : points)
    list.append(QPointF(p.X, p.Y));
  return list;
}

}  // namespace

// The view owns the chart it is built with; setChart() would orphan a default one.
TSampleChart::TSampleChart(QWidget* parent) : QChartView(new QChart(), parent) {
  QChart* chart = this->chart();
  chart->setTitle(QStringLiteral("Test data"));
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setPlotAreaBackgroundVisible(false);
  chart->setBackgroundRoundness(0);
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(0, 0, 0, 0);  // the chart fills the view, no grey frame
  series_[SampleSeries] = AddSeries(*chart, QStringLiteral("Sample"), QColor(255, 0, 0));
  series_[ModelSeries] = AddSeries(*chart, QStringLiteral("Model"), QColor(0, 128, 0));

  axisX_ = new QValueAxis(chart);
  axisY_ = new QValueAxis(chart);
  for (QValueAxis* axis : {axisX_, axisY_}) {
    axis->setLabelFormat(QStringLiteral("%g"));
    // Titles as small as the labels: a small chart keeps room for the numbers.
    QFont title = axis->labelsFont();
    title.setBold(false);
    axis->setTitleFont(title);
  }
  chart->addAxis(axisX_, Qt::AlignBottom);
  chart->addAxis(axisY_, Qt::AlignLeft);
  for (QLineSeries* series : series_) {
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
  }
  heldOut_ = new QScatterSeries(chart);
  heldOut_->setName(QStringLiteral("Held out"));
  heldOut_->setMarkerSize(7);
  heldOut_->setColor(Qt::transparent);
  heldOut_->setBorderColor(QColor(0, 0, 192));
  chart->addSeries(heldOut_);
  heldOut_->attachAxis(axisX_);
  heldOut_->attachAxis(axisY_);
  DrawHeldOut();
  cbChartX = new QComboBox(viewport());
  cbChartX->setObjectName(QStringLiteral("cbChartX"));
  cbChartX->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  cbChartX->setToolTip(
      QStringLiteral("The input along the x axis, or the samples measured "
                     "against the model's predictions"));
  cbChartX->move(2, 2);
  cbChartX->hide();
  connect(cbChartX, &QComboBox::currentIndexChanged, this, [this](int view) {
    if (view >= 0) SetView(view);
  });
  setRenderHint(QPainter::Antialiasing);
  FollowPalette(*chart, palette());
  connect(chart, &QChart::plotAreaChanged, this, &TSampleChart::FitTicks);
  FollowData();
}

void TSampleChart::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) FollowPalette(*chart(), palette());
  QChartView::changeEvent(event);
}

void TSampleChart::SetPoints(int index, std::vector<TSamplePoint> points, bool asPoints) {
  Draw(index, std::move(points), asPoints);
  FollowData();
}

void TSampleChart::Draw(int index, std::vector<TSamplePoint> points, bool asPoints) {
  // Every change redraws both series, and a line series is costly per point: a long one
  // gets the points that draw the same curve.
  points_[index] = std::move(points);
  asPoints_[index] = asPoints;
  const std::vector<TSamplePoint> drawn =
      InUnits(asPoints ? ScatterPoints(points_[index]) : DisplayPoints(points_[index]), units_);
  QList<QPointF> qtPoints;
  qtPoints.reserve(static_cast<qsizetype>(drawn.size()));
  for (const TSamplePoint& p : drawn) {
    qtPoints.append(QPointF(p.X, p.Y));
  }
  series_[index]->replace(qtPoints);
  QPen pen = series_[index]->pen();
  pen.setStyle(asPoints ? Qt::NoPen : Qt::SolidLine);
  series_[index]->setPen(pen);
  series_[index]->setPointsVisible(asPoints || points_[index].size() <= MarkerLimit);
  // Many markers drawn large merge into a blot.
  series_[index]->setMarkerSize(asPoints ? ScatterMarkerSize : LineMarkerSize);
}

void TSampleChart::ShowSamples(const TSampleData& samples, std::vector<TSamplePoint> ordered) {
  samples_ = &samples;
  predictions_.clear();
  view_ = ValidView(samples, view_);
  if (samples.InputCount() == 1) {
    // Read where the set was read: a long set is not sorted again on the window's thread.
    Draw(SampleSeries, std::move(ordered), DrawAsPoints(samples));
    Draw(ModelSeries, {}, false);
    series_[ModelSeries]->setName(QStringLiteral("Model"));
    chart()->setTitle(QStringLiteral("Test data"));
    ShowTitles(ChartAxisTitles(samples, view_));
    FollowData();
    OfferViews();
    return;
  }
  Redraw();
  OfferViews();
}

void TSampleChart::OfferViews() {
  const QSignalBlocker quiet(cbChartX);
  cbChartX->clear();
  for (const std::string& name : ChartViewNames(*samples_))
    cbChartX->addItem(QString::fromStdString(name));
  const bool several = cbChartX->count() > 0;
  cbChartX->setCurrentIndex(several ? view_ : -1);
  cbChartX->adjustSize();
  cbChartX->setVisible(several);
  // The plot starts below the choice.
  const int top = several ? cbChartX->height() + 2 : 2;
  chart()->setMargins(QMargins(2, top, 2, 2));
  FitLegend();
}

void TSampleChart::FitLegend() {
  constexpr int LegendRoom = 220;  // below this height the axes' numbers would show as "..."
  const bool several = samples_ != nullptr && samples_->InputCount() > 1;
  chart()->legend()->setVisible(!several || height() >= LegendRoom);
}

void TSampleChart::resizeEvent(QResizeEvent* event) {
  QChartView::resizeEvent(event);
  FitLegend();
}

void TSampleChart::ShowModel(const TSampleData& samples, std::vector<double> predictions) {
  samples_ = &samples;
  predictions_ = std::move(predictions);
  if (samples.InputCount() == 1) {
    SetPoints(ModelSeries, SeriesPoints(samples, predictions_));
    return;
  }
  if (IsMeasuredView(samples, view_)) {
    Redraw();  // the samples stand at the predictions
    return;
  }
  // A search shows model after model: the samples' points stay as they are.
  Draw(ModelSeries, SeriesPoints(samples, predictions_, view_), true);
  FollowData();
}

void TSampleChart::ClearModel() {
  predictions_.clear();
  if (samples_ != nullptr && samples_->InputCount() > 1) {
    Redraw();
    return;
  }
  Clear(ModelSeries);
}

void TSampleChart::SetView(int view) {
  if (samples_ == nullptr) return;
  view_ = ValidView(*samples_, view);
  Redraw();
}

void TSampleChart::Redraw() {
  if (samples_ == nullptr) return;
  const TSampleData& samples = *samples_;
  // The choice of view over the chart names what it shows; its title would take the room.
  chart()->setTitle(samples.InputCount() == 1 ? QStringLiteral("Test data") : QString());
  ShowTitles(ChartAxisTitles(samples, view_));
  if (samples.InputCount() == 1) {
    Draw(SampleSeries, SeriesPoints(samples), DrawAsPoints(samples));
    Draw(ModelSeries, SeriesPoints(samples, predictions_), false);
  } else if (IsMeasuredView(samples, view_)) {
    std::vector<TSamplePoint> measured = MeasuredPoints(samples, predictions_);
    std::vector<TSamplePoint> diagonal = DiagonalPoints(measured);
    Draw(SampleSeries, std::move(measured), true);
    Draw(ModelSeries, std::move(diagonal), false);
  } else {
    Draw(SampleSeries, SeriesPoints(samples, view_), true);
    Draw(ModelSeries, SeriesPoints(samples, predictions_, view_), true);
  }
  // The diagonal is where a perfect model's points lie, not a model of its own.
  series_[ModelSeries]->setName(IsMeasuredView(samples, view_)
                                    ? QStringLiteral("measured = predicted")
                                    : QStringLiteral("Model"));
  DrawHeldOut();
  FollowData();
}

void TSampleChart::MarkHeldOut(const TSampleData* heldOut) {
  if (heldOut == nullptr) {
    heldOutSet_.reset();
  } else {
    heldOutSet_ = *heldOut;
  }
  DrawHeldOut();
}

void TSampleChart::DrawHeldOut() {
  // Held-out rows have no predictions of their own here: the measured view marks none.
  std::vector<TSamplePoint> points;
  if (heldOutSet_ && !(samples_ != nullptr && IsMeasuredView(*samples_, view_))) {
    const int input = heldOutSet_->InputCount() > 1 ? view_ : 0;
    points = SeriesPoints(*heldOutSet_, std::clamp(input, 0, heldOutSet_->InputCount() - 1));
  }
  const QList<QPointF> marks = ChartList(InUnits(DisplayPoints(std::move(points)), units_));
  heldOut_->replace(marks);
  // The legend names the marks only while there are any.
  for (QLegendMarker* marker : chart()->legend()->markers(heldOut_))
    marker->setVisible(!marks.isEmpty());
}

void TSampleChart::ShowTitles(const TAxisTitles& titles) {
  titles_ = titles;
  axisX_->setTitleText(QString::fromStdString(TitleInUnits(titles.X, units_.ExponentX)));
  axisY_->setTitleText(QString::fromStdString(TitleInUnits(titles.Y, units_.ExponentY)));
}

void TSampleChart::FollowData() {
  const auto range = SeriesRange(points_[SampleSeries], points_[ModelSeries]);
  const TChartUnits units = range ? ChartUnits(*range) : TChartUnits{};
  if (units != units_) {  // every series and title in the new units
    units_ = units;
    for (const int index : {SampleSeries, ModelSeries})
      Draw(index, std::vector<TSamplePoint>(points_[index]), asPoints_[index]);
    DrawHeldOut();
    ShowTitles(titles_);
  }
  if (!range) {
    axisX_->setRange(0, 1);
    axisY_->setRange(0, 1);
    return;
  }
  const TSeriesRange drawn = InUnits(*range, units_);
  const auto follow = [](QValueAxis* axis, double min, double max, int mostTicks) {
    if (const std::optional<TAxisScale> scale = ReadableScale(min, max, mostTicks)) {
      axis->setRange(scale->Min, scale->Max);
      axis->setTickCount(scale->TickCount);
    } else {
      axis->setRange(min, max);
      axis->applyNiceNumbers();
    }
  };
  follow(axisX_, drawn.MinX, drawn.MaxX, mostXTicks_);
  follow(axisY_, drawn.MinY, drawn.MaxY, mostYTicks_);
}

void TSampleChart::FitTicks(const QRectF& plotArea) {
  const int x = TicksThatFit(plotArea.width(), XTickRoom, MostXTicks);
  const int y = TicksThatFit(plotArea.height(), YTickRoom, MostYTicks);
  if (x == mostXTicks_ && y == mostYTicks_) return;  // a change of ticks moves the plot again
  mostXTicks_ = x;
  mostYTicks_ = y;
  FollowData();
}

QMimeData* TSampleChart::Picture() {
  const QSize size = this->size().shrunkBy(QMargins(0, 0, 1, 1)).expandedTo(QSize(1, 1));
  const QRect area(QPoint(0, 0), size);

  QByteArray svg;
  QBuffer buffer(&svg);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(area);
  generator.setTitle(chart()->title());
  {
    QPainter painter(&generator);
    render(&painter, area, area);
  }

  auto* mime = new QMimeData();
  // The picture is of the chart; the axis titles name the view without the choice.
  const bool choice = cbChartX->isVisible();
  cbChartX->hide();
  mime->setImageData(grab(area).toImage());
  cbChartX->setVisible(choice);
  mime->setData(QStringLiteral("image/svg+xml"), svg);
  return mime;
}
