// The add-in library is assembled from the frame (v8napi) and the driver;
// its four exports live in v8napi/component.cpp.
