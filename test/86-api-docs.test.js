'use strict';
// docs/API.md shows real answers: regenerated against this build, it must
// come out exactly as committed.
const { it } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const { generate, docPath } = require('../scripts/gen-api-docs');

it('docs/API.md agrees with what the module answers and with its error codes and tags (npm run docs rewrites it)', async () => {
  const committed = fs.readFileSync(docPath, 'utf8');
  assert.equal(await generate(committed), committed);
});
