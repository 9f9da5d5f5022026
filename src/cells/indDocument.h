#pragma once
// The document: the memory images the program edits and the file operations on them that
// the main window and the command-line tool share. The default image comes from the initial
// clone file; New starts from it; Open reads a clone file through the model's checks; Save
// prepares, packs and writes the working image. Failures are reported by the clone file's
// messages and leave the images, the path and the saved state unchanged.
#include "cells/indModelData.h"
#include "image/cmcEeprom.h"
#include "image/cmcIcfFile.h"
#include "image/cmcOpenCloneFile.h"

#include <string>

class indDocument {
public:
    indDocument();

    // Reads the initial clone file into the default image and prepares it (blank-record
    // templates in every slot), then starts a new document from it. A failure has shown
    // its message; the caller ends the program.
    [[nodiscard]] cmcIcfResult LoadInitialFile(const std::string& path);

    // Working image := default image, packed; untitled and saved.
    void New();
    // Opens a clone file; on success the file is the current path and the state is saved.
    [[nodiscard]] cmcIcfResult Open(const std::string& path);
    // Prepares, packs and writes the working image to path; on success path becomes the
    // current path and the state is saved.
    [[nodiscard]] cmcIcfResult Save(const std::string& path);
    // Takes an image read from the radio: the working and last-read images become the
    // default image with the radio memory area of image, prepared as after a load; the
    // document is untitled and modified. (Only a read that succeeded gets here.)
    void TakeReadImage(const cmcEeprom& image);

    // The clone file comment: the two 16-character text fields of the working image.
    [[nodiscard]] std::string Comment() const;
    // True when the working image differs from the image last loaded, made new or saved, or
    // was read from the radio since.
    [[nodiscard]] bool IsModified() const { return markedModified_ || working_.Differs(savedState_); }
    void MarkSaved()
    {
        savedState_.CopyFrom(working_);
        markedModified_ = false;
    }

    [[nodiscard]] cmcEeprom& Working() { return working_; }
    [[nodiscard]] const cmcEeprom& Working() const { return working_; }
    [[nodiscard]] const cmcEeprom& Default() const { return default_; }
    [[nodiscard]] cmcEeprom& LastRead() { return lastRead_; }
    [[nodiscard]] const std::string& Path() const { return path_; }
    [[nodiscard]] indModelWords& Words() { return words_; }
    // What the last opened file carried: its header words and its map revision (-1: none).
    [[nodiscard]] int FileWord1() const { return fileWord1_; }
    [[nodiscard]] int FileWord2() const { return fileWord2_; }
    [[nodiscard]] int FileMapRev() const { return fileMapRev_; }
    [[nodiscard]] int LcdFontSize() const { return lcdFontSize_; }
    void SetLcdFontSize(int size) { lcdFontSize_ = size; }

    // The model's checks of a clone file being opened.
    [[nodiscard]] cmcCloneFileChecks OpenChecks();

private:
    // The working and last-read images := the default image, packed, with the radio memory
    // area of image; then the preparation after a load.
    void loadRadioArea(const cmcEeprom& image);

    cmcEeprom working_;
    cmcEeprom lastRead_;
    cmcEeprom default_;
    cmcEeprom savedState_;
    std::string path_;
    indModelWords words_;
    int lcdFontSize_ = indStartLcdFontSize;
    int fileWord1_ = 0;
    int fileWord2_ = 0;
    int fileMapRev_ = -1;
    bool markedModified_ = false;
};
