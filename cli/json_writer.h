#pragma once
// The JSON documents' one writer: every string value and key goes through
// JsonString, so escaping has one home, and no document is put together by
// hand.
#include <cstdint>
#include <string>
#include <type_traits>

namespace vantorico {

class JsonObject {
 public:
  JsonObject& String(const char* key, const std::string& value);
  JsonObject& Bool(const char* key, bool value);
  JsonObject& Null(const char* key);
  template <typename T>
  JsonObject& Number(const char* key, T value) {
    static_assert(std::is_integral<T>::value && !std::is_same<T, bool>::value, "an integer");
    return Json(key, std::to_string(value));
  }
  // A value another JsonObject or JsonArray made.
  JsonObject& Json(const char* key, const std::string& json);
  std::string Text() const { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

class JsonArray {
 public:
  JsonArray& String(const std::string& value);
  // A value another JsonObject or JsonArray made.
  JsonArray& Json(const std::string& json);
  std::string Text() const { return text_ + "]"; }

 private:
  std::string text_ = "[";
};

}  // namespace vantorico
