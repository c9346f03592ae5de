#pragma once
// Window menu arrangements of the editor windows that QMdiArea lacks.

class QMdiArea;

// Every open window full width, stacked from top to bottom.
void tileHorizontally(QMdiArea& area);
// Every open window full height, side by side from left to right.
void tileVertically(QMdiArea& area);
// Minimised windows lined up along the bottom edge.
void arrangeMinimized(QMdiArea& area);
void minimizeAll(QMdiArea& area);
