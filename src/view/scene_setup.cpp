// Placeholder until the scene set-up is written.
#include "view/scene_setup.h"

void SetupScene(CQuodraDoc&, int, int) {}
