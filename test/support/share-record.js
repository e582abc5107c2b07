'use strict';
// Reads the share records the addon sent, as logged by the simulator. Offsets
// count from the string area at byte 48; 0xFFFFFFFF marks an absent text.
// (Records to feed the simulator are built with ./records.js.)

const HEADER = 48;
const ABSENT = 0xffffffff;

const TEXTS = [
  ['name', 16],
  ['volumeName', 20],
  ['comment', 24],
  ['relativePath', 28],
  ['absolutePath', 32],
  ['newName', 36],
];

// The header fields, offsets and texts of a record; a text that is absent, or
// whose offset or NUL lies outside the declared area, reads as null.
function parse(buf) {
  if (!Buffer.isBuffer(buf) || buf.length < HEADER) throw new TypeError('not a share record');
  const stringsLength = buf.readUInt32LE(44);
  const area = buf.subarray(HEADER, HEADER + Math.min(stringsLength, buf.length - HEADER));
  const record = {
    shareType: buf.readUInt16LE(0),
    changeMask: buf.readUInt32LE(4),
    nameSpace: buf.readUInt32LE(8),
    encryption: buf.readUInt8(12),
    folderRedirection: buf.readUInt8(13),
    atmBackup: buf.readUInt8(14),
    openFilesCount: buf.readUInt32LE(40),
    stringsLength,
    length: buf.length,
    offsets: {},
  };
  for (const [key, at] of TEXTS) {
    const offset = buf.readUInt32LE(at);
    record.offsets[key] = offset;
    const nul = offset < area.length ? area.indexOf(0, offset) : -1;
    record[key] = nul < 0 ? null : area.toString('utf8', offset, nul);
  }
  return record;
}

module.exports = { parse, HEADER, ABSENT };
