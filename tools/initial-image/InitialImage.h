#pragma once
// The initial clone file: the default image every new document starts from, built from
// declared defaults. The radio's header fields, every packed table present with the
// template of a blank record, and the values a new user expects: no channels, one
// individual ID and one talk group (a list keeps at least one entry), blank texts.
#include "image/cmcIcfFile.h"

#include <string>

class cmcEeprom;

// The static form with its defaults, packed into the radio memory area. image is resized
// to the document image size.
void BuildInitialImage(cmcEeprom& image);
// Builds the initial image and writes it as a clone file (no comment, map revision 1).
[[nodiscard]] cmcIcfResult WriteInitialImage(const std::string& path);
