#pragma once

#include <initializer_list>

class QWidget;
class RoomFormatting;

// Shows the user's own message formatting on the widgets that preview it (an input box, the
// room window's "Change Color" label): the text in the chosen colour, bold and underlined as
// the messages will be. One rule for the room window and the private windows, so what the user
// sees while typing always matches what is sent.
void showFormatting(std::initializer_list<QWidget *> widgets, const RoomFormatting &formatting);
