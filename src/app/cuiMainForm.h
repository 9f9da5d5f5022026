#pragma once
// The main window: captioned with GI_Sys_AppTitle, placed from the settings and kept on
// screen, with the tree pane left of a splitter and the sheet area right of it. When it
// closes it writes its normal placement and the tree pane's width back to the settings.
#include <QMainWindow>

class QSplitter;
class indMain;

class cuiMainForm final : public QMainWindow {
    Q_OBJECT
public:
    explicit cuiMainForm(indMain& model);
    ~cuiMainForm() override;

    [[nodiscard]] QSplitter& Splitter() { return *splitter_; }
    // Caption from the current overlay (after a language change as well).
    void RefreshTitle();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    indMain& model_;
    QSplitter* splitter_;
    bool splitterPlaced_ = false;
};
