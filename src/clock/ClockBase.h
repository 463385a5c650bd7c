#pragma once
#include "OrganicShapeGlassForm.h"

// What the main window stands on: the shaped, see-through, tintable window.
using TfClockBase = TOrganicShapeGlassForm;
