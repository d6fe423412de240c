// Host-side objects for black-box tests: what the framework supplies to the
// expert, written against the contract alone, and the helpers that read what
// the expert hands back.
#pragma once

#include "ChangedTagsBag.h"
#include "CollectingCollection.h"
#include "HostEnumerations.h"
#include "HostStrings.h"
#include "PictureHandler.h"
#include "RecordingHandler.h"
