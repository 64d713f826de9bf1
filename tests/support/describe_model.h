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
  s << m.m_strName << '|' << m.m_nVersion << '|' << m.m_nPolygons << '|' << m.m_nVertices << '|'
    << m.m_nMaterials << '|' << m.m_nSubObjects << '|' << m.m_nCurSubObject << "\nbox ";
  s << m.m_ptMin.x << ' ' << m.m_ptMin.y << ' ' << m.m_ptMin.z << ' ' << m.m_ptMax.x << ' '
    << m.m_ptMax.y << ' ' << m.m_ptMax.z << "\nsections";
  if (withSectionTable) {
    for (int e : m.m_vecSectionOffsets) s << ' ' << e;
  }
  for (const Material& mat : m.m_vecMaterials) {
    s << "\nmat " << mat.strName << ' ' << mat.nKind << ' ' << mat.nId << ' ' << mat.fColor[0]
      << ' ' << mat.fColor[1] << ' ' << mat.fColor[2] << ' ' << mat.fColor[3] << ' '
      << mat.nTexNumber << ' ' << mat.nTexIndex;
  }
  for (const TexCoord& t : m.m_vecTexCoords) s << "\ntc " << t.u << ' ' << t.v;
  for (const Vertex& v : m.m_vecVertices) {
    s << "\nv " << v.x << ' ' << v.y << ' ' << v.z << ' ' << v.nx << ' ' << v.ny << ' ' << v.nz
      << ' ' << v.nCount;
  }
  for (const Vertex& n : m.m_vecNormals) s << "\nn " << n.x << ' ' << n.y << ' ' << n.z;
  for (const Polygon& p : m.m_vecPolygons) {
    s << "\np " << p.nVerts << ' ' << p.nMaterialId << ' ' << int{p.byFlags} << ' ' << p.dNormal[0]
      << ' ' << p.dNormal[1] << ' ' << p.dNormal[2] << " mat "
      << (p.pMaterial ? p.pMaterial - m.m_vecMaterials.data() : -1) << " idx";
    for (int i : p.vecVertIdx) s << ' ' << i;
    for (int i : p.vecAuxIdx) s << ' ' << i;
    for (int i : p.vecTexIdx) s << ' ' << i;
  }
  for (const SubObject& o : m.m_vecSubObjects) {
    s << "\no " << o.nParent << ' ' << o.nFirst << ' ' << o.nLast;
    for (float f : o.fMatrix) s << ' ' << f;
  }
  return s.str();
}
