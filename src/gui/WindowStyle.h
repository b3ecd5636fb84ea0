#pragma once

class QWidget;

// The look every window of the program shares: the pale background (RGB 240, 240, 224)
// and Verdana where the system has it.
void ApplyWindowStyle(QWidget* window);
