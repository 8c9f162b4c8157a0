#include "app/png_texts.h"

#include "app/app_state.h"
#include "app/command_line.h"

std::string ReproducingCommandNow() {
  const ReproducedSettings settings{App.noise.noiseType,   App.noise.interpolation,
                                    App.noise.gradientRule, App.noise.octaveIndex,
                                    App.noise.turbulence,   App.colourScale};
  return ReproducingCommand(App.latticeSeed, settings, EditedPoints(), App.views);
}

std::vector<PngText> PngTexts() {
  return {{"Software", std::string("noisedemo ") + NOISEDEMO_VERSION},
          {"Comment", ReproducingCommandNow()}};
}
