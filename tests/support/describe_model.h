// A model as text, so that "the same model" can be checked in one
// comparison and a difference shows where it lies.
#pragma once

#include <sstream>
#include <string>

#include "model/model.h"

// Everything a file supplies, as text, so that "unchanged" can be checked
// in one comparison. Material references are written as indices.
// The section table says where the file put things, not what the model is:
// a re-save lays the sections out again, so it can be left out.
inline std::string Describe(const CModel& m, bool withSectionTable = true) {
  std::ostringstream s;
  s.precision(9);
  s << m.Name() << '|' << m.Version() << '|' << m.PolygonCount() << '|' << m.VertexCount() << '|'
    << m.MaterialCount() << '|' << m.SubObjectCount() << '|' << m.Content().m_nCurSubObject
    << "\nbox ";
  s << m.Min().x << ' ' << m.Min().y << ' ' << m.Min().z << ' ' << m.Max().x << ' ' << m.Max().y
    << ' ' << m.Max().z << "\nsections";
  if (withSectionTable) {
    for (int e : m.Content().m_vecSectionOffsets) s << ' ' << e;
  }
  for (const Material& mat : m.Materials()) {
    s << "\nmat " << mat.strName << ' ' << mat.nKind << ' ' << mat.nId << ' ' << mat.fColor[0]
      << ' ' << mat.fColor[1] << ' ' << mat.fColor[2] << ' ' << mat.fColor[3] << ' '
      << mat.nTexNumber << ' ' << mat.nTexIndex;
  }
  for (const TexCoord& t : m.TexCoords()) s << "\ntc " << t.u << ' ' << t.v;
  for (const Vertex& v : m.Vertices()) {
    s << "\nv " << v.x << ' ' << v.y << ' ' << v.z << ' ' << v.nx << ' ' << v.ny << ' ' << v.nz
      << ' ' << v.nCount;
  }
  for (const Vertex& n : m.Normals()) s << "\nn " << n.x << ' ' << n.y << ' ' << n.z;
  for (const Polygon& p : m.Polygons()) {
    s << "\np " << p.nVerts << ' ' << p.nMaterialId << ' ' << int{p.byFlags} << ' ' << p.dNormal[0]
      << ' ' << p.dNormal[1] << ' ' << p.dNormal[2] << " mat "
      << (p.pMaterial ? p.pMaterial - m.Materials().data() : -1) << " idx";
    for (int i : p.vecVertIdx) s << ' ' << i;
    for (int i : p.vecAuxIdx) s << ' ' << i;
    for (int i : p.vecTexIdx) s << ' ' << i;
  }
  for (const SubObject& o : m.SubObjects()) {
    s << "\no " << o.nParent << ' ' << o.nFirst << ' ' << o.nLast;
    for (float f : o.fMatrix) s << ' ' << f;
  }
  return s.str();
}
