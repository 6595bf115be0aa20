#pragma once

#include "support/ImageDifference.h"
