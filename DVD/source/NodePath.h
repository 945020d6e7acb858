// Path texts of nodes and reference fields, as every message that names a
// place in the disc shows them: "VTS 2/PGCs/PGC 4", "VMG/Titles:VMG title 3".
// A node's number in its path is its index among its parent's children plus
// 1, asked of the parent (CDvdObject::GetChildIndex).
#pragma once

#include "DVD/source/DvdObject.h"
#include "framework/core/CString.h"

// The path of a node; empty for none and for a kind without a path rule.
CString GetPath(const CDvdObject* pNode);

// The path of the reference's node followed by the text of the referring
// field; empty when the reference has no node.
CString GetReferenceFieldName(const CDvdReference& reference);
