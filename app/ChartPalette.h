#pragma once
// A chart in the colours of the window's palette: its background, title, legend, axes and
// grid follow the palette, so that a dark desktop gets dark charts. The series keep the
// colours they were given.

class QChart;
class QPalette;

void FollowPalette(QChart& chart, const QPalette& palette);
