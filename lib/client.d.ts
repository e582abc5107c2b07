export { createClient, Client, ClientOptions, SharesClient, ConnectionsClient, ContextsClient } from '../index';
