#pragma once
// The progress window of a clone read or write: a tool window without system buttons,
// centred over the main window, holding in a lowered panel a bar of 32 cells (256 x 16
// pixels, each cell followed by a one-pixel gap in the window colour). The first
// progress x 33 / total cells are drawn in the highlight colour. It refuses to close and
// swallows its key presses, so an operation cannot be interrupted halfway.
#include <QWidget>

class QFrame;

class cuiCloneProgress final : public QWidget {
    Q_OBJECT
public:
    static constexpr int Cells = 32;
    static constexpr int BarWidth = 256;
    static constexpr int BarHeight = 16;

    explicit cuiCloneProgress(const QString& caption, QWidget* owner = nullptr);
    ~cuiCloneProgress() override;

    void SetProgress(long long done, long long total);
    // Cells drawn in the highlight colour for a progress (at most Cells).
    [[nodiscard]] static int FilledCells(long long done, long long total);
    [[nodiscard]] int Filled() const { return filled_; }
    // Closes the window for good (the operation ended).
    void Finish();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* panel_;
    QWidget* bar_;
    int filled_ = 0;
    bool finishing_ = false;
};
