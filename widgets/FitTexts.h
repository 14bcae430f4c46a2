#pragma once

class QWidget;

// The forms place their controls for the English texts. A translation that
// is longer widens the label, radio button or check box it names to what its
// text needs, keeping its place; controls whose texts fit keep the design's
// size, so the English windows do not change by a pixel.
void FitGrownTexts(QWidget *window);
