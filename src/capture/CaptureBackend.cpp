#include "capture/CaptureBackend.h"

CaptureBackend::~CaptureBackend() = default;
