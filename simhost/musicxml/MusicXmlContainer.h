// MusicXML files on disk: plain XML (.musicxml, .xml) or the compressed container (.mxl, a zip
// whose META-INF/container.xml names the score), told apart by content.
#pragma once

#include "simhost/ScoreText.h"

#include <string>

namespace simhost {

// True when the bytes begin like a MusicXML file: a zip container, or XML whose root element is
// score-partwise or score-timewise.
bool LooksLikeMusicXml(const std::string& bytes);

// The score's XML text from a plain or compressed file. False with the file and the reason.
bool ReadMusicXmlFile(const std::string& path, std::string* xml, ScoreTextError* error);

// Writes the XML text, compressed when the path ends in .mxl. The file is written under a
// temporary name and renamed, so a failure never leaves a partly written file.
bool WriteMusicXmlFile(const std::string& path, const std::string& xml, ScoreTextError* error);

}  // namespace simhost
