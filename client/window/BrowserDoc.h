#pragma once
// The client's document: the framework needs one; it holds nothing.

#include "client/framework/Document.h"

class CBrowserDoc : public framework::Document {};
