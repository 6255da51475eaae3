// Match sounds: written in a later step.
#include "datagen.h"

void GenerateSounds(const std::string& outDir) { (void)outDir; }
