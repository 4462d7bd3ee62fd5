#pragma once
// The JSON documents' one writer: every string value and key goes through
// JsonString, so escaping has one home, and no document is put together by
// hand.
#include <cstdint>
#include <string>
#include <type_traits>

namespace vantorico {

// Keys are the documents' own names, plain ASCII words that need no escape.
class JsonObject {
 public:
  JsonObject& String(const char* key, const std::string& value);
  JsonObject& String(const char* key, const char* value);
  JsonObject& Bool(const char* key, bool value);
  JsonObject& Null(const char* key);
  template <typename T>
  JsonObject& Number(const char* key, T value) {
    static_assert(std::is_integral<T>::value && !std::is_same<T, bool>::value, "an integer");
    static_assert(!std::is_signed<T>::value || sizeof(T) <= sizeof(int), "an int at most");
    return std::is_signed<T>::value ? Signed(key, static_cast<int>(value))
                                    : Unsigned(key, static_cast<unsigned long long>(value));
  }
  // A value another JsonObject or JsonArray made.
  JsonObject& Json(const char* key, const std::string& json);
  std::string Text() const { return text_ + "}"; }

 private:
  JsonObject& Signed(const char* key, int value);
  JsonObject& Unsigned(const char* key, unsigned long long value);
  void Key(const char* key);
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
