#pragma once
// The preview box of the text popup: the text in the radio's glyphs, 12 characters a line in
// two lines, inside a black frame; the dot size is fitted to the field's full length.
#include <QWidget>

#include <string>

class cmcEeprom;

class cuiFTextPreview final : public QWidget {
    Q_OBJECT
public:
    cuiFTextPreview(const cmcEeprom& image, int lcdFontSize, int limit, QWidget* parent);
    void SetBytes(const std::string& bytes);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const cmcEeprom& image_;
    int lcdFontSize_;
    int limit_;
    std::string bytes_;
};
