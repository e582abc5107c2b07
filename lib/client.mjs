// The client as an ES module: the instance require('cifs-native/client') gives.
import client from './client.js';

export const { createClient, CifsError, errorCategory, CATEGORIES } = client;
export default client;
