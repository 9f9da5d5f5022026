#pragma once
// The images cells show: an indexed list of equally sized pictures. The sheets use image 10
// (warning mark) and image 11 (error mark); the standard list draws those two itself, so
// sheets have their marks before the main window's tree images exist.
#include <QPixmap>

#include <vector>

class cuiImageList {
public:
    static constexpr int WarningImage = 10;
    static constexpr int ErrorImage = 11;

    explicit cuiImageList(int size = 16);
    // The process's list with the two marks (created on first use).
    static const cuiImageList& Standard();

    void Set(int index, QPixmap image);
    [[nodiscard]] const QPixmap& At(int index) const;
    [[nodiscard]] int Size() const { return size_; }
    [[nodiscard]] int Count() const { return static_cast<int>(images_.size()); }

    // The two marks drawn into a square of side size.
    [[nodiscard]] static QPixmap DrawWarning(int size);
    [[nodiscard]] static QPixmap DrawError(int size);

private:
    int size_;
    std::vector<QPixmap> images_;
};
