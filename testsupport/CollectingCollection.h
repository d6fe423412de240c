// A host bag collection on the test's stack that keeps every bag it is
// given; refuseFrom makes it refuse from the n-th on.
#pragma once

#include "hostkit/BagCollection.h"

using CollectingCollection = StackBagCollection;
