'use strict';
// Hand-made open files results for the simulator's raw answers. Texts are
// NUL-terminated UTF-8 at offsets counted from each string area; 0xFFFFFFFF
// marks an absent text.

const ABSENT = 0xffffffff;
const RECORD_HEADER = 40;
const RESULT_HEADER = 24;

// Little-endian u32 words, as the request pages hold them.
const u32 = (...values) => Buffer.from(new Uint32Array(values).buffer);

// The texts back to back, each with its NUL, and where each starts.
function layOut(texts) {
  const offsets = [];
  let used = 0;
  const parts = texts.map((text) => {
    offsets.push(used);
    const bytes = Buffer.from(`${text}\0`);
    used += bytes.length;
    return bytes;
  });
  return { area: Buffer.concat(parts), offsets };
}

// An open file record: the 40-byte header, then the name, share name, full
// path, user name and client address. `offsets` overrides any text offset
// (keys as the arguments), `stringsLength` the declared length of the area.
function openFileRecord({
  sessionID = 0, ID = 0, accessMask = 0, lockLevel = 0, name = '', shareName = '', fullPath = '',
  userName = '', clientIPAddress = '', offsets = {}, stringsLength,
} = {}) {
  const keys = ['name', 'shareName', 'fullPath', 'userName', 'clientIPAddress'];
  const { area, offsets: at } = layOut([name, shareName, fullPath, userName, clientIPAddress]);
  const header = Buffer.alloc(RECORD_HEADER);
  [sessionID, ID, accessMask, lockLevel].forEach((v, i) => header.writeUInt32LE(v >>> 0, 4 * i));
  keys.forEach((key, i) => header.writeUInt32LE((offsets[key] ?? at[i]) >>> 0, 16 + 4 * i));
  header.writeUInt32LE((stringsLength ?? area.length) >>> 0, 36);
  return Buffer.concat([header, area]);
}

// A result header: the cookie, then the shared memory object's name, in its
// string area. `shmSize` (number or bigint) is written as given, so it can
// claim more than the object holds; `offsets` overrides {cookie, shmName}.
function resultHeader({ count = 0, cookie = '', shmName = '', shmSize = 0, offsets = {} } = {}) {
  const { area, offsets: at } = layOut([cookie, shmName]);
  const header = Buffer.alloc(RESULT_HEADER);
  header.writeUInt32LE(count >>> 0, 0);
  header.writeUInt32LE((offsets.cookie ?? at[0]) >>> 0, 4);
  header.writeUInt32LE((offsets.shmName ?? at[1]) >>> 0, 8);
  header.writeBigUInt64LE(BigInt(shmSize), 16);
  return Buffer.concat([header, area]);
}

module.exports = { openFileRecord, resultHeader, u32, ABSENT };
