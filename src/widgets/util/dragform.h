#pragma once

class QWidget;

// Lets the user move a caption-less window by dragging its body: the window system takes over
// the move, as it does for a drag on a caption. Call it from a left-button press.
void DragForm(QWidget *window);

// Makes left-button presses on each given widget move its window.
void enableDragMove(QWidget *widget);
