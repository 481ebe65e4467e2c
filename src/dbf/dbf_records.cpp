#include "dbf/dbf_records.h"

#include <algorithm>
#include <cstring>

namespace kelvarin::dbf {
namespace {

template <size_t N>
void Put(HeaderBytes& out, size_t at, const std::array<char, N>& src) {
  std::copy(src.begin(), src.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
}

template <size_t N, size_t M>
void Take(const std::array<char, M>& in, size_t at, std::array<char, N>& dst) {
  std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(at), N, dst.begin());
}

template <size_t M>
void PutLe(std::array<char, M>& out, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) out[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

template <size_t M>
uint32_t GetLe(const std::array<char, M>& in, size_t at, int width) {
  uint32_t value = 0;
  for (int i = 0; i < width; ++i)
    value |= static_cast<uint32_t>(static_cast<uint8_t>(in[at + static_cast<size_t>(i)])) << (8 * i);
  return value;
}

}  // namespace

HeaderBytes EncodeHeader(const DbfHeader& h) {
  HeaderBytes out{};
  out[0] = h.Version;
  Put(out, 1, h.LastUpdate);
  PutLe(out, 4, static_cast<uint32_t>(h.RecordCount), 4);
  PutLe(out, 8, static_cast<uint16_t>(h.HeaderLength), 2);
  PutLe(out, 10, static_cast<uint16_t>(h.RecordLength), 2);
  PutLe(out, 12, static_cast<uint16_t>(h.Reserved1), 2);
  out[14] = h.TransactionFlag;
  out[15] = h.EncryptionFlag;
  Put(out, 16, h.MultiUserArea);
  out[28] = h.MdxFlag;
  Put(out, 29, h.Reserved2);
  return out;
}

DbfHeader DecodeHeader(const HeaderBytes& in) {
  DbfHeader h;
  h.Version = in[0];
  Take(in, 1, h.LastUpdate);
  h.RecordCount = static_cast<int32_t>(GetLe(in, 4, 4));
  h.HeaderLength = static_cast<int16_t>(static_cast<uint16_t>(GetLe(in, 8, 2)));
  h.RecordLength = static_cast<int16_t>(static_cast<uint16_t>(GetLe(in, 10, 2)));
  h.Reserved1 = static_cast<int16_t>(static_cast<uint16_t>(GetLe(in, 12, 2)));
  h.TransactionFlag = in[14];
  h.EncryptionFlag = in[15];
  Take(in, 16, h.MultiUserArea);
  h.MdxFlag = in[28];
  Take(in, 29, h.Reserved2);
  return h;
}

DescriptorBytes EncodeDescriptor(const DbfFieldRecord& r) {
  DescriptorBytes out{};
  std::copy(r.FieldName.begin(), r.FieldName.end(), out.begin());
  out[10] = r.NameEnd;
  out[11] = r.FieldType;
  std::copy(r.DataAddress.begin(), r.DataAddress.end(), out.begin() + 12);
  out[16] = r.FieldLength;
  out[17] = r.DecimalCount;
  std::copy(r.Reserved.begin(), r.Reserved.end(), out.begin() + 18);
  return out;
}

DbfFieldRecord DecodeDescriptor(const DescriptorBytes& in) {
  DbfFieldRecord r;
  Take(in, 0, r.FieldName);
  r.NameEnd = in[10];
  r.FieldType = in[11];
  Take(in, 12, r.DataAddress);
  r.FieldLength = in[16];
  r.DecimalCount = in[17];
  Take(in, 18, r.Reserved);
  return r;
}

}  // namespace kelvarin::dbf
