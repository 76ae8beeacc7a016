#include "STrainingData.h"
#include "SORNATrainingData.h"

STrainingData::~STrainingData() = default;
SORNATrainingData::~SORNATrainingData() = default;
