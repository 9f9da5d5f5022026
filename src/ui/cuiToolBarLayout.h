#pragma once
// The rows of a tool bar: items left to right from a small indent. Without line breaks the
// items wrap onto a new row when the bar is too narrow for them; once a line break is
// placed, rows end only at the line breaks. The bar is as high as its rows.
#include <QLayout>

#include <memory>
#include <vector>

class cuiToolBarLayout final : public QLayout {
public:
    static constexpr int Indent = 4;

    explicit cuiToolBarLayout(QWidget* parent);
    ~cuiToolBarLayout() override;
    cuiToolBarLayout(const cuiToolBarLayout&) = delete;
    cuiToolBarLayout& operator=(const cuiToolBarLayout&) = delete;

    // The item added last ends its row; from now on rows end only at line breaks.
    void AddLineBreak();
    [[nodiscard]] bool HasLineBreaks() const { return explicitBreaks_; }

    void addItem(QLayoutItem* item) override;
    [[nodiscard]] int count() const override;
    [[nodiscard]] QLayoutItem* itemAt(int index) const override;
    [[nodiscard]] QLayoutItem* takeAt(int index) override;
    [[nodiscard]] Qt::Orientations expandingDirections() const override { return {}; }
    [[nodiscard]] bool hasHeightForWidth() const override { return true; }
    [[nodiscard]] int heightForWidth(int width) const override;
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        std::unique_ptr<QLayoutItem> item;
        bool breakAfter = false;
    };
    // Places the items in rect (only measures when apply is false); returns the used size.
    QSize arrange(const QRect& rect, bool apply) const;

    std::vector<Entry> entries_;
    bool explicitBreaks_ = false;
};
