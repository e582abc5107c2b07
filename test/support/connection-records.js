'use strict';
// Hand-made records of the connection and invalid users calls for the
// simulator's raw results. Open files result headers (the invalid users
// header has the same layout) come from ./open-file-records.js.

const CONNECTION_RECORD = 418;
const INVALID_USER_HEADER = 40;

// Writes `text` into a fixed field of `size` bytes, cut to the field and
// NUL-padded; a text of exactly `size` bytes leaves no NUL, as a faulty
// library could.
function putField(buf, at, size, text) {
  Buffer.from(text).copy(buf, at, 0, size);
}

// One 418-byte connection record. 64-bit fields take numbers or BigInts;
// `securityEquivalenceCount` is the details call's count (signed).
function connectionRecord({
  connectionNumber = 0, mappedSharesCount = 0, openFiles = 0, loginTime = 0, ipAddress = '', userName = '',
  connectionType = '', channels = 0, isEncrypted = 0, totalRequests = 0, totalBytesRead = 0, totalBytesWritten = 0,
  securityEquivalenceCount = 0, status = '', privileges = '',
} = {}) {
  const r = Buffer.alloc(CONNECTION_RECORD);
  r.writeUInt16LE(connectionNumber, 0);
  r.writeUInt16LE(mappedSharesCount, 2);
  r.writeUInt32LE(openFiles >>> 0, 4);
  r.writeBigUInt64LE(BigInt(loginTime), 12);
  putField(r, 20, 16, ipAddress);
  putField(r, 36, 256, userName);
  putField(r, 292, 20, connectionType);
  r.writeInt32LE(channels, 312);
  r[316] = Number(isEncrypted);
  r.writeUInt32LE(totalRequests >>> 0, 326);
  r.writeBigUInt64LE(BigInt(totalBytesRead), 330);
  r.writeBigUInt64LE(BigInt(totalBytesWritten), 338);
  r.writeInt32LE(securityEquivalenceCount, 346);
  putField(r, 354, 32, status);
  putField(r, 386, 32, privileges);
  return r;
}

// A raw connection list for sim.mgmt.rawResult: the block's u32 count
// (default: the records given, but it may claim more), four unread bytes,
// and a pointer to the records back to back, placed 'apart' (default, in
// memory the library keeps), 'inside' (the block, at byte 16) or 'null'.
function connectionList(records, { count = records.length, place = 'apart' } = {}) {
  return { connectionList: { count, records: Buffer.concat(records), place } };
}

// Security equivalence texts as the details call hands them out.
function securityTexts(texts) {
  return Buffer.concat(texts.map((t) => Buffer.from(`${t}\0`)));
}

// One invalid user record: the 40-byte header, then the user name. `offsets`
// may override {name}; `stringsLength` the declared length of the area.
function invalidUserRecord({
  name = '', state = 2, lastAuthAttemptTime = 0, clientIPAddress = '', offsets = {}, stringsLength,
} = {}) {
  const area = Buffer.from(`${name}\0`);
  const header = Buffer.alloc(INVALID_USER_HEADER);
  header.writeUInt32LE(state >>> 0, 0);
  header.writeBigInt64LE(BigInt(lastAuthAttemptTime), 8);
  putField(header, 16, 16, clientIPAddress);
  header.writeUInt32LE((offsets.name ?? 0) >>> 0, 32);
  header.writeUInt32LE((stringsLength ?? area.length) >>> 0, 36);
  return Buffer.concat([header, area]);
}

module.exports = {
  connectionRecord, connectionList, securityTexts, invalidUserRecord,
};
