// Which sub-object each polygon belongs to. Placement moves vertices by it
// and the exporters group polygons by it, so both follow one rule.
#pragma once

#include <vector>

struct ModelContent;

// The sub-object index (into m_vecSubObjects) of every polygon, in polygon
// order, or kNoSubObject for a polygon outside every range: such polygons
// stay where they are, in the root object's frame. When cursorEnd is given
// it receives the cursor's last position.
inline constexpr int kNoSubObject = -1;
std::vector<int> SubObjectOfEachPolygon(const ModelContent& model, int* cursorEnd = nullptr);

// Moves the vertices out of their sub-objects' frames into model space (the
// reader's last step), and one point along the parent chain of a sub-object.
void PlaceSubObjects(ModelContent& model);
void TransformToModel(const ModelContent& model, int index, float& x, float& y, float& z);
