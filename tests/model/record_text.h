#pragma once

#include <string>

// Writes one record of a measurement data file in the current format (or the
// older one without the stem/cement value), for tests that need many files.
struct RecordText {
  std::string name = "\"Bauer\",\"Helene\",\"HB-48\"";
  std::string date = "20040301";
  std::string side = "L";
  std::string headMagnification = "1.15";
  std::string stemMagnification = "1.14";
  std::string medial = "0,14.6,11.8,9.4,7.1";
  std::string lateral = "0,10.3,8.7,6.9,5.2";
  std::string angle = "1.8";
  std::string subsidence = "63.4,48.2,55.8,40.6";
  std::string stemCement = "0.5";
  bool currentFormat = true;
  std::string comparability = "142.3,38.6,\"Offset\",44.1";
  std::string lineEnd = "\r\n";

  std::string Text() const {
    const std::string& e = lineEnd;
    std::string r = "[X-ray]" + e + name + e + "\"Date\",\"" + date + "\"" + e + "\"Side\",\"" + side +
                    "\",\"Magnification head radius\"," + headMagnification +
                    ",\"Magnification stem length\"," + stemMagnification + e +
                    "Distances in mm, angle in degrees" + e + "\"Medial\"," + medial + e + "\"Lateral\"," +
                    lateral + e + "\"Angle\"," + angle + ",\"Subsidence\"," + subsidence + e;
    r += currentFormat ? "\"subsidence stem/cement interface\"," + stemCement + e
                       : "\"no stem/cement values\"" + e;
    r += "\"Control lengths\"," + comparability + e;
    return r;
  }
};
