#include "render/draw.h"

#include "model/model.h"
#include "render/draw_walk.h"
#include "render/texture_set.h"

void Draw(const CModel& model, const CTextureSet& textures, int polygonMode) {
  drawwalk::ImmediateSink sink;
  drawwalk::Walk(model, textures, polygonMode, sink);
}
