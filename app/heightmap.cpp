#include "app/heightmap.h"

#include "app/export_formats.h"
#include "export/printable.h"
#include "noise/noise2d.h"

bool SaveHeightmap(const std::string& fileName, const NoiseSettings& settings,
                   const std::vector<PngText>& texts, FILE* messages) {
  std::vector<uint16_t> samples(static_cast<size_t>(kTextureSize) * kTextureSize);
  HeightmapSamples(settings, samples.data());
  PngImage image;
  image.width = kTextureSize;
  image.height = kTextureSize;
  image.grey16 = samples.data();
  const bool ok =
      SavePng(fileName, FormatInfo(ExportFormat::kHeightmap).kind, image, texts, messages);
  if (ok) fprintf(messages, "Heightmap file '%s' created.\n", Printable(fileName).c_str());
  return ok;
}
