// velkarra_data.cpp: the data set tool. Writes the game's default data
// files (settings, models, height map, textures, font, sounds and icon) into
// a folder; the build runs it to fill build/data. The output is the same,
// byte for byte, on every run.
#include <FreeImage.h>

#include <cstring>
#include <exception>
#include <iostream>

#include "tools/bitmaps.h"
#include "tools/data_writer.h"
#include "tools/font_baker.h"
#include "tools/models.h"
#include "tools/settings_file.h"
#include "tools/sounds.h"

namespace {

void printUsage(std::ostream& out) {
  out << "usage: velkarra-data FOLDER\n"
         "       velkarra-data --table\n"
         "       velkarra-data --icons FOLDER\n"
         "Writes the default data set of Velkarra3D into FOLDER (created if missing,\n"
         "existing files replaced): settings.txt, the seven .off models, ground.bmp,\n"
         "sand.bmp, sky.bmp, sky_up.bmp, ground_box.bmp, font.glf, icon.png and the\n"
         "sounds under s/. --table lists every setting with its name, type and unit.\n"
         "--icons writes the icon at the desktop's sizes into FOLDER/NxN/apps/.\n";
}

void writeSettings(const DataFolder& folder) {
  writeBytes(folder.path("settings.txt"), settingsFileText());
}

struct Step {
  const char* what;
  void (*write)(const DataFolder&);
};

const Step kSteps[] = {
    {"settings.txt", writeSettings}, {"the models", writeModels},    {"ground.bmp", writeHeightMap},
    {"sand.bmp", writeSand},         {"the sky pictures", writeSky}, {"font.glf", writeFont},
    {"the sounds", writeSounds},     {"icon.png", writeIcon},
};

// velkarra-data --icons FOLDER.
int writeIcons(const char* folder) {
  FreeImage_Initialise();
  int status = 0;
  try {
    writeDesktopIcons(folder);
  } catch (const std::exception& e) {
    std::cerr << "velkarra-data: " << e.what() << "\n";
    status = 1;
  }
  FreeImage_DeInitialise();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) return writeIcons(argv[2]);
  if (argc != 2) {
    printUsage(std::cerr);
    return 2;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    printUsage(std::cout);
    return 0;
  }
  if (std::strcmp(argv[1], "--table") == 0) {
    printSettingsTable(std::cout);
    return 0;
  }
  if (argv[1][0] == '-') {
    printUsage(std::cerr);
    return 2;
  }

  DataFolder folder(argv[1]);
  FreeImage_Initialise();
  int status = 0;
  const char* current = "the data folder";
  try {
    folder.create();
    for (const Step& step : kSteps) {
      current = step.what;
      step.write(folder);
    }
  } catch (const WriteError& e) {
    std::cerr << "velkarra-data: " << e.what() << "\n";
    status = 1;
  } catch (const std::exception& e) {
    std::cerr << "velkarra-data: cannot make " << current << ": " << e.what() << "\n";
    status = 1;
  }
  FreeImage_DeInitialise();
  return status;
}
