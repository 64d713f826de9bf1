// Tests change a model's data the way code that makes a model does: the
// content comes out, is changed, and goes back in.
#pragma once

#include <utility>

#include "model/model.h"

template <class Edit>
void EditContent(CModel& model, Edit edit) {
  ModelContent content = model.Assign(ModelContent{});
  edit(content);
  model.Assign(std::move(content));
}
