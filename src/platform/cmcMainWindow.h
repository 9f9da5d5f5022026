#pragma once
// The registered main window: message boxes and dialogs are placed on its monitor. The
// registration is forgotten by itself when the window is destroyed.
class QWidget;

void cmcSetMainWindow(QWidget* window);
[[nodiscard]] QWidget* cmcMainWindow();
