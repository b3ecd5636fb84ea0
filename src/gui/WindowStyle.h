#pragma once

class QWidget;

// The look every window of the program shares: the pale background (RGB 240, 240, 224)
// with colours that stay readable on it whatever the desktop's theme, and Verdana where the
// system has it.
void ApplyWindowStyle(QWidget* window);
