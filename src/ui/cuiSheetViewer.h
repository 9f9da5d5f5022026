#pragma once
// The development viewer: one sheet of the overlay on a clone file, in a plain window, so an
// overlay author can look at a sheet and use it without the main window. Started with
//   torvane --sheet NAME [FILE]
// where NAME is a sheet reference ("[class]name,kind" or a bare name) and FILE a clone file
// (default: the initial clone file, the default image).
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class cuiCellHost;
class datRecordService;
class cuiSheet;
class indDocument;

class cuiSheetViewer final : public QWidget {
    Q_OBJECT
public:
    struct Request {
        std::string reference;
        std::string file; // empty: the default image
    };
    // The request when the arguments ask for the viewer ("--sheet NAME [FILE]"); the words
    // are taken out of arguments so the rest of the start-up sees the others.
    [[nodiscard]] static std::optional<Request> TakeArguments(std::vector<std::string>& arguments);

    // dataFolder: where the initial clone file lies (trailing separator).
    cuiSheetViewer(const Request& request, const std::string& dataFolder, int zoomPercent);
    ~cuiSheetViewer() override;

    // False when the clone file could not be opened (its message has been shown).
    [[nodiscard]] bool Ready() const { return ready_; }
    [[nodiscard]] cuiSheet* Sheet() { return sheet_; }

private:
    std::unique_ptr<indDocument> document_;
    std::unique_ptr<cuiCellHost> host_;
    std::unique_ptr<datRecordService> records_;
    cuiSheet* sheet_ = nullptr;
    bool ready_ = false;
};
